-- Demo rows of the head-office database, part: voucher entry support: stored vouchers, related-voucher queries, the voucher search.

-- Printed forms: invoices A hold 10 lines, invoices B any number, delivery notes 30.
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (1, 'FC  ', 'A', 10)
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (2, 'FC  ', 'B', 0)
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (3, 'RM  ', 'R', 30)

-- A delivery note to deliver in parts (IdReparto -1): sugar on two lines (10 and 5) and coffee
-- (6). Two invoices were issued from it (one annulled, one of 850.50) and a credit note with no
-- amount yet.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA) VALUES ('RM  ', '000100000050R', 0, '10/03/2008', 'C0001', 1336.50, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 10, -1)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 2, '000789', 'Café molido torrado 250 g', 'UN', 6, -1)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 3, '000123', 'Azúcar refinada 1 kg', 'UN', 5, -1)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000120A', 0, '11/03/2008', 'C0001', 850.50, 0, 'RM  ', '000100000050R', '0')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000119A', 0, '11/03/2008', 'C0001', 400, 1, 'RM  ', '000100000050R', '0')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('NC  ', '000100000007A', 0, '12/03/2008', 'C0001', NULL, 0, 'RM  ', '000100000050R', '0')

-- A delivery note whose only invoice was annulled.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA) VALUES ('RM  ', '000100000051R', 0, '12/03/2008', 'C0001', 91, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000051R', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 2, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000121A', 0, '12/03/2008', 'C0001', 91, 1, 'RM  ', '000100000051R', '0')

-- The charges applied to the final consumer's account.
INSERT INTO V_MV_CargosAplicados (CUENTA, TC, IDCOMPROBANTE, FECHA, SALDO) VALUES ('C0001', 'FC  ', '000100000120A', '11/03/2008', 150.25)
INSERT INTO V_MV_CargosAplicados (CUENTA, TC, IDCOMPROBANTE, FECHA, SALDO) VALUES ('C0001', 'ND  ', '000100000003A', '14/03/2008', 49.75)

-- A category of fresh goods beside the demo's grocery one.
INSERT INTO V_TA_Rubros (IdRubro, Descripcion) VALUES ('FRE', 'Frescos')

-- Delivery notes are delivered in parts and do not move stock themselves.
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('EntregaParcialRemito', 'SI', '')
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('DescargaStockRemitos', 'NO', '')

-- The purchase invoice, a voucher of the purchases system.
INSERT INTO V_TA_CPTE (CODIGO, TALONARIO, DESCRIPCION, SISTEMA, ES, Letras) VALUES ('FCC ', 1, 'Factura de compra', 'COMPRAS', 'E', 'A')

-- The cheese is cut to measure; the coffee asks for an equivalent unit (boxes).
UPDATE MA_ARTICULOS SET PIDEMEDIDAS = 1 WHERE IDARTICULO = 'QUESO-KG-1'
UPDATE MA_ARTICULOS SET PIDEEQUIVALENCIA = 1 WHERE IDARTICULO = '000789'

-- The centre's opening stock of cheese, in the opening adjustment.
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 8, '01/03/2008', 'A001', 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 20, 20, 'KG', 6, 120, 'A001')

-- Delivery note 0001-00000001 R, delivered in parts: 15 kg of cheese on two lines, of which the
-- first delivery took 8 kg; 6 sugars not delivered yet.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('RM  ', '000100000001R', 0, 1, '03/03/2008', 'C0001', 3035.07, 7, 1, 1, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('RM  ', '000100000001R', 0, 1, 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 10, -1, 'KG', 1, 175.69, 145.2, 1756.9, 120, 0, 'A3', 'A001', 21)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('RM  ', '000100000001R', 0, 2, '000123', 'Azúcar refinada 1 kg', 'UN', 6, -1, 'UN', 1, 66.62, 55.06, 399.72, 45.5, 0, 'A3', 'A001', 21)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('RM  ', '000100000001R', 0, 3, 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 5, -1, 'KG', 1, 175.69, 145.2, 878.45, 120, 0, 'A3', 'A001', 21)
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('RM  ', '000100000001R', 0, 1, '04/03/2008', 'A001', 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', -8, -8, 'KG', 2, 120, 'A001')

-- Delivery note 0001-00000002 R, invoiced in two parts: of its 10 sugars 4 and then 3, and its 12
-- coffees at once.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('RM  ', '000100000002R', 0, 1, '03/03/2008', 'C0001', 1954.6, 0, 1, 1, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('RM  ', '000100000002R', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 10, 0, 'UN', 1, 66.62, 55.06, 666.2, 45.5, 0, 'A3', 'A001', 21)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('RM  ', '000100000002R', 0, 2, '000789', 'Café molido torrado 250 g', 'UN', 12, 0, 'UN', 1, 107.3, 97.1, 1287.6, 80.25, 0, 'A3', 'A001', 10.5)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('FC  ', '000100000011A', 0, 1, '05/03/2008', 'C0001', 1554.08, 'RM  ', '000100000002R', '0', 0, 1, 1, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('FC  ', '000100000011A', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 4, 'UN', 1, 66.62, 55.06, 266.48, 45.5, 0, 'A3', 'A001', 21)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('FC  ', '000100000011A', 0, 2, '000789', 'Café molido torrado 250 g', 'UN', 12, 'UN', 1, 107.3, 97.1, 1287.6, 80.25, 0, 'A3', 'A001', 10.5)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('FC  ', '000100000012A', 0, 1, '06/03/2008', 'C0001', 199.86, 'RM  ', '000100000002R', '0', 0, 1, 1, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA) VALUES ('FC  ', '000100000012A', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 3, 'UN', 1, 66.62, 55.06, 199.86, 45.5, 0, 'A3', 'A001', 21)

-- Invoice 0001-00000020 B to a final consumer, in dollars at 3.5: coffee from two lots, sugar
-- exempt, the installation of a coffee grinder (90 minutes), and the freight.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('FC  ', '000100000020B', 0, 1, '07/03/2008', 'C0001', 118.1, 0, 3.5, 5, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, iTC, IdLista, IdDeposito, AlicIVA, Nro_Lote, Nro_Serie, ControladoPor, IdOrigen) VALUES ('FC  ', '000100000020B', 0, 1, '000789', 'Café molido torrado 250 g', 'UN', 3, 'UN', 1, 12, 10.86, 36, 8, 0.5, 0, 'A3', 'A001', 10.5, '|L0001|L0002|', '|2|1|', 'LOTE', 'AR')
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA, Exento) VALUES ('FC  ', '000100000020B', 0, 2, '000123', 'Azúcar refinada 1 kg', 'UN', 2, 'UN', 1, 20, 20, 40, 13, 0, 'A3', 'A001', 0, 1)
INSERT INTO V_MV_CPTETAREAS (TC, IDCOMPROBANTE, IdComplemento, ID, IdTarea, Descripcion, Horas, ValorHora, valorHora_S_Iva, Total, descripcionadicional, FechaEstInicio, FechaEstFin, IdTecnico, FechaREALInicio, FechaREALFin, Prioridad, Usuario, FHPRESENTACION, FHEMISION, NROEXP, FhEntrega) VALUES ('FC  ', '000100000020B', 0, 1, 'INST', 'Instalación', 90, 20, 16.53, 30, 'Molino de café', '07/03/2008', '07/03/2008', 'T1', '07/03/2008', '07/03/2008', 2, 'ana', '06/03/2008', '07/03/2008', 'EXP-0042', '08/03/2008')
INSERT INTO V_MV_CPTE_Observ (TC, IDCOMPROBANTE, IdComplemento, ID, TIPO_OBS, Observacion, Importe, IMPORTE_S_IVA) VALUES ('FC  ', '000100000020B', 0, 1, 'OC', 'Flete', 12.1, 10)
INSERT INTO V_MV_CPTE_Observ (TC, IDCOMPROBANTE, IdComplemento, ID, TIPO_OBS, Observacion, Importe, IMPORTE_S_IVA) VALUES ('FC  ', '000100000020B', 0, 2, 'OB', 'Entregar por la tarde', NULL, NULL)

-- Invoice 0001-00000030 A of pieces of cheese cut to measure: two of 5 by 10 at the same price per
-- kilogram, and one of 8 by 10.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, IMPORTE, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('FC  ', '000100000030A', 0, 1, '07/03/2008', 'C0001', 1054.14, 0, 1, 1, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA, ESPESOR, Ancho, Equiv_UDBase, Ud_Pr, Importe_Ud) VALUES ('FC  ', '000100000030A', 0, 1, 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 2, 'KG', 1.5, 175.69, 145.2, 351.38, 120, 0, 'A3', 'A001', 21, 5, 10, 1.5, 'KG', 175.69)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA, ESPESOR, Ancho, Equiv_UDBase, Ud_Pr, Importe_Ud) VALUES ('FC  ', '000100000030A', 0, 2, 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 3, 'KG', 2.5, 175.69, 145.2, 527.07, 120, 0, 'A3', 'A001', 21, 5, 10, 2.5, 'KG', 175.69)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, IdLista, IdDeposito, AlicIVA, ESPESOR, Ancho, Equiv_UDBase, Ud_Pr, Importe_Ud) VALUES ('FC  ', '000100000030A', 0, 3, 'QUESO-KG-1', 'Queso cremoso por kilo', 'KG', 1, 'KG', 1, 175.69, 145.2, 175.69, 120, 0, 'A3', 'A001', 21, 8, 10, 1, 'KG', 175.69)

-- Purchase invoice 0002-00000123 A of Distribuidora Cañuelas: 50 sugars, their unloading, freight.
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, CUENTA, ESTADO, SUCURSAL, NUMERO, LETRA, ID, IdReparto, Cotizacion, CondicionIVA, EnComodato) VALUES ('FCC ', '000200000123A', 0, '04/03/2008', 'P0001', 'P', '0002', '00000123', 'A', 1, 9, 1, 1, 0)
INSERT INTO C_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, CUENTA, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto, IdUnidadBase, CantidadUD, Importe, IMPORTE_S_IVA, Total, Costo, Impuestos, PorcDto, IdLista, IdDeposito, AlicIVA, Precio_Lista, CodigoArtProveedor) VALUES ('FCC ', '000200000123A', 'P0001', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 50, -1, 'UN', 1, 45.5, 45.5, 2275, 45.5, 0, 9, 'C1', 'A001', 21, 50, 'AZ-1000')
INSERT INTO C_MV_CPTETAREAS (TC, IDCOMPROBANTE, CUENTA, IdComplemento, ID, IdTarea, Descripcion, Horas, ValorHora, valorHora_S_Iva, Total) VALUES ('FCC ', '000200000123A', 'P0001', 0, 1, 'INST', 'Descarga', 60, 15, 12.4, 15)
INSERT INTO C_MV_CPTE_Observ (TC, IDCOMPROBANTE, CUENTA, IdComplemento, ID, TIPO_OBS, Observacion, Importe, IMPORTE_S_IVA) VALUES ('FCC ', '000200000123A', 'P0001', 0, 1, 'OC', 'Flete', 100, 82.64)

-- Vouchers the voucher search lists, one set per list. The heads above get the holder's name, and
-- delivery note 1 its approval; delivery note 62 predates 59 although numbered after it, 63 is
-- annulled, 59 finished.
UPDATE V_MV_CPTE SET NOMBRE = 'Consumidor Final' WHERE CUENTA = 'C0001' AND NOMBRE IS NULL
UPDATE V_MV_CPTE SET APROBADO = 1 WHERE TC = 'RM' AND IDCOMPROBANTE = '000100000001R'
UPDATE C_MV_CPTE SET NOMBRE = 'Distribuidora Cañuelas S.R.L.', IMPORTE = 2390 WHERE TC = 'FCC' AND IDCOMPROBANTE = '000200000123A'
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('RM  ', '000100000059R', 0, 1, '25/02/2008', 'C0001', 'Juana Pereyra', 310, 0, 1, 1)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('RM  ', '000100000062R', 0, 1, '28/02/2008', 'C0001', 'Club Atlético Sur', 15000, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('RM  ', '000100000063R', 0, 1, '11/03/2008', 'C0001', 'Juana Pereyra', 45.50, 1, 0, 0)
-- Work orders (10 in two parts, 9 finished), orders to prepare (20 prepared, 22 finished), budgets
-- (30 approved, 31 not yet, 32 approved and annulled), an invoice in two parts, an advance
-- payment voucher, a credit and a debit note.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('OT  ', '000100000009X', 0, 1, '01/03/2008', 'C0001', 'Juana Pereyra', 120, 0, 1, 1)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('OT  ', '000100000010X', 0, 1, '04/03/2008', 'C0001', 'Club Atlético Sur', 800, 0, 1, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('OT  ', '000100000010X', 1, 1, '06/03/2008', 'C0001', 'Club Atlético Sur', 250, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA, FechaPreparacion) VALUES ('NP', '000100000020X', 0, 1, '05/03/2008', 'C0001', 'Almacén O''Higgins', 410, 0, 0, 0, '06/03/2008')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('NP', '000100000021X', 0, 1, '07/03/2008', 'C0001', 'Juana Pereyra', 95, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('NP', '000100000022X', 0, 1, '02/03/2008', 'C0001', 'Juana Pereyra', 60, 0, 0, 1)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA, COMENTARIOS) VALUES ('PR  ', '000100000030X', 0, 1, '01/03/2008', 'C0001', 'Club Atlético Sur', 2300, 0, 1, 0, 'Obra vestuarios')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA, COMENTARIOS) VALUES ('PR  ', '000100000031X', 0, 1, '08/03/2008', 'C0001', 'Juana Pereyra', 150, 0, 0, 0, 'A confirmar')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA, COMENTARIOS) VALUES ('PR  ', '000100000032X', 0, 1, '09/03/2008', 'C0001', 'Almacén O''Higgins', 700, 1, 1, 0, 'Reemplazado por el 30')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('FC  ', '000100000130A', 0, 1, '12/03/2008', 'C0001', 'Club Atlético Sur', 968, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('FC  ', '000100000130A', 1, 1, '12/03/2008', 'C0001', 'Club Atlético Sur', 121, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('FP  ', '000100000040X', 0, 1, '03/03/2008', 'C0001', 'Juana Pereyra', 500, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('NC  ', '000100000015A', 0, 1, '13/03/2008', 'C0001', 'Almacén O''Higgins', 80.40, 0, 0, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, APROBADO, FINALIZADA) VALUES ('ND  ', '000100000004A', 0, 1, '14/03/2008', 'C0001', 'Juana Pereyra', 12.10, 0, 0, 0)

-- Suppliers' vouchers: a delivery note still to invoice and one invoiced, two invoices (one
-- annulled), purchase orders (5 under guarantee, 6, 7 not approved yet, 4 finished).
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, FINALIZADO, SUCURSAL, NUMERO, LETRA) VALUES ('RMC ', '000100004521R', 0, 1, '04/03/2008', 'P0001', 'Distribuidora Cañuelas S.R.L.', 5400, 0, '0001', '00004521', 'R')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, FINALIZADO, SUCURSAL, NUMERO, LETRA) VALUES ('RMC ', '000200000077R', 0, 1, '02/03/2008', 'P0002', 'Café del Señor', 2100, 1, '0002', '00000077', 'R')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, SUCURSAL, NUMERO, LETRA) VALUES ('FCC ', '000100004530A', 0, 1, '06/03/2008', 'P0001', 'Distribuidora Cañuelas S.R.L.', 6534, '0001', '00004530', 'A')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, ANULADA, SUCURSAL, NUMERO, LETRA) VALUES ('FCC ', '000300000012A', 0, 1, '07/03/2008', 'P0002', 'Café del Señor', 2541, 1, '0003', '00000012', 'A')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, APROBADO, FINALIZADO, GARANTIA, COMENTARIOS, SUCURSAL, NUMERO, LETRA) VALUES ('OC  ', '000100000004X', 0, 1, '20/02/2008', 'P0001', 'Distribuidora Cañuelas S.R.L.', 900, 1, 1, 0, 'Recibida', '0001', '00000004', 'X')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, APROBADO, FINALIZADO, GARANTIA, COMENTARIOS, SUCURSAL, NUMERO, LETRA) VALUES ('OC  ', '000100000005X', 0, 1, '05/03/2008', 'P0001', 'Distribuidora Cañuelas S.R.L.', 4550, 1, 0, 1, 'Entregar en el depósito central', '0001', '00000005', 'X')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, APROBADO, FINALIZADO, GARANTIA, COMENTARIOS, SUCURSAL, NUMERO, LETRA) VALUES ('OC  ', '000100000006X', 0, 1, '08/03/2008', 'P0002', 'Café del Señor', 1926, 1, 0, 0, 'Café para la canasta', '0001', '00000006', 'X')
INSERT INTO C_MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, ID, FECHA, CUENTA, NOMBRE, IMPORTE, APROBADO, FINALIZADO, GARANTIA, COMENTARIOS, SUCURSAL, NUMERO, LETRA) VALUES ('OC  ', '000100000007X', 0, 1, '10/03/2008', 'P0002', 'Café del Señor', 640, 0, 0, 0, 'Falta aprobar', '0001', '00000007', 'X')

-- Suppliers' credit notes and a debit note booked as journal vouchers of the purchases register,
-- two lines each.
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('P0001', 1, 3, 1, 2008, 'CPR', '07/03/2008', 'Bonificación por volumen', 'NCPE', '0001', '00000123', 'A', 'D', 350)
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('1.1.05', 2, 3, 1, 2008, 'CPR', '07/03/2008', 'Bonificación por volumen', 'NCPE', '0001', '00000123', 'A', 'H', 350)
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('P0002', 1, 3, 2, 2008, 'CPR', '11/03/2008', 'Devolución de café', 'NCPE', '0002', '00000009', 'B', 'D', 96.30)
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('1.1.05', 2, 3, 2, 2008, 'CPR', '11/03/2008', 'Devolución de café', 'NCPE', '0002', '00000009', 'B', 'H', 96.30)
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('P0001', 1, 3, 3, 2008, 'CPR', '12/03/2008', 'Flete no facturado', 'NDPR', '0001', '00000045', 'A', 'H', 210)
INSERT INTO MV_ASIENTOS (Cuenta, Secuencia, Mes_Operativo, [Numero Asiento], PERIODO, Tipo_Reg, Fecha, Detalle, TC, SUCURSAL, NUMERO, LETRA, [DEBE-HABER], Importe) VALUES ('1.1.05', 2, 3, 3, 2008, 'CPR', '12/03/2008', 'Flete no facturado', 'NDPR', '0001', '00000045', 'A', 'D', 210)

-- Vouchers sent to a third party and back: a work order out for repair, returned; an order still out.
INSERT INTO V_MV_CPTETERCEROS (ID, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, FECHAENVIADO, FECHARECIBIDO) VALUES (1, 'OT  ', '000100000009X', 0, '01/03/2008', '02/03/2008', '10/03/2008')
INSERT INTO V_MV_CPTETERCEROS (ID, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, FECHAENVIADO, FECHARECIBIDO) VALUES (2, 'OT  ', '000100000010X', 1, '06/03/2008', '07/03/2008', NULL)
