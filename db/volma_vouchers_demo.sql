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
